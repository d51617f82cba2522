#include "BenchData.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace bench {
namespace {

struct TModel {
  const char* model;
  const char* name;
};

constexpr TModel kModels[] = {
    {"YJV", "交联聚乙烯绝缘电力电缆"},     {"YJV22", "钢带铠装交联电力电缆"},
    {"YJLV", "铝芯交联聚乙烯电力电缆"},    {"VV", "聚氯乙烯绝缘电力电缆"},
    {"VV22", "钢带铠装聚氯乙烯电力电缆"},  {"BV", "铜芯聚氯乙烯绝缘电线"},
    {"BVR", "铜芯聚氯乙烯绝缘软电线"},     {"BVVB", "铜芯护套平型电线"},
    {"RVV", "聚氯乙烯护套软电缆"},         {"RVVP", "屏蔽软电缆"},
    {"KVV", "聚氯乙烯控制电缆"},           {"KVVP", "屏蔽控制电缆"},
    {"YC", "重型橡套软电缆"},              {"YZ", "中型橡套软电缆"},
    {"BLV", "铝芯聚氯乙烯绝缘电线"},       {"RVS", "双绞软电线"},
};
constexpr const char* kPrefixes[] = {"", "ZR-", "NH-", "ZC-"};
constexpr const char* kCores[] = {"1*", "2*", "3*", "4*", "5*", "3*+1", "3*+2", "4*+1", "7*", "10*", "12*", "19*"};
constexpr const char* kSections[] = {"1.5", "2.5", "4",  "6",   "10",  "16",  "25", "35",
                                     "50",  "70",  "95", "120", "150", "185", "240"};
constexpr const char* kCities[] = {"杭州", "宁波", "温州", "绍兴", "嘉兴", "湖州", "金华", "台州", "苏州", "无锡",
                                   "常州", "南京", "合肥", "上海", "福州", "厦门", "南昌", "武汉", "长沙", "广州"};
constexpr const char* kTrades[] = {"电力工程有限公司", "建设集团", "机电设备公司", "物业管理处", "电气安装公司",
                                   "房地产开发公司", "钢结构厂", "照明工程部", "水务公司", "化工厂"};
constexpr const char* kColours[] = {"红", "黄", "蓝", "绿", "黑", "双色"};
constexpr const char* kPacks[] = {"盘", "卷", "轴", "箱"};
constexpr const char* kPeople[] = {"张伟", "王芳", "李娜", "刘洋", "陈杰", "杨敏"};

std::string Money(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

// "3*+1" with section 95 gives 3*95+1*50: the neutral one size down by half.
std::string Spec(const char* cores, const char* section) {
  std::string core = cores;
  const size_t plus = core.find('+');
  if (plus == std::string::npos) return core + section;
  const double main = std::atof(section);
  char neutral[16];
  std::snprintf(neutral, sizeof neutral, "%g", main >= 4 ? main / 2 : main);
  return core.substr(0, plus) + section + "+" + core.substr(plus + 1) + "*" + neutral;
}

std::string SqlOf(const char* head, const std::vector<const std::string*>& values) {
  std::string sql = head;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i > 0) sql += ",\r";
    sql += QuoteSql(*values[i]);
  }
  sql += "\r)";
  return sql;
}

}  // namespace

uint64_t TBenchRandom::Next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

TSalesData::TSalesData(uint64_t seed) {
  TBenchRandom random(seed);
  for (int i = 0; i < kCustomers; ++i) {
    const char* city = kCities[i % std::size(kCities)];
    const char* trade = kTrades[(i / std::size(kCities)) % std::size(kTrades)];
    customers_.push_back(std::string(city) + trade);
  }
  const int combos = static_cast<int>(std::size(kModels) * std::size(kCores) * std::size(kSections));
  for (int i = 0; i < kBillProducts; ++i) {
    const int pick = (i * 7919 + random.Below(7)) % combos;
    const TModel& m = kModels[pick % std::size(kModels)];
    const int rest = pick / static_cast<int>(std::size(kModels));
    TItem item;
    item.model = m.model;
    item.name = m.name;
    item.spec = Spec(kCores[rest % std::size(kCores)], kSections[rest / std::size(kCores) % std::size(kSections)]);
    item.code = "C" + std::to_string(10000 + i);
    item.unit = "米";
    item.price = 0.5 + random.Below(50000) / 100.0;
    billProducts_.push_back(std::move(item));
  }
}

void TSalesData::FillBillLine(TBillLine& line, TBenchRandom& random) const {
  const TItem& item = billProducts_[static_cast<size_t>(random.Below(kBillProducts))];
  line.code = item.code;
  line.name = item.name;
  line.model = item.model;
  line.spec = item.spec;
  line.unit = item.unit;
  line.colour = kColours[random.Below(std::size(kColours))];
  line.pack = kPacks[random.Below(std::size(kPacks))];
  double qty = 0;
  for (auto& cell : line.colourQty) cell.clear();
  // Most lines split their quantity over a few colours; the rest give it whole.
  if (random.Below(3) == 0) {
    qty = 10 + random.Below(5000) / 10.0;
  } else {
    const int parts = 1 + random.Below(4);
    for (int c = 0; c < parts; ++c) {
      const double part = 10 + random.Below(1000);
      line.colourQty[static_cast<size_t>(c)] = std::to_string(static_cast<int>(part));
      qty += part;
    }
  }
  char text[32];
  std::snprintf(text, sizeof text, "%g", qty);
  line.qty = text;
  line.price = Money(item.price);
  line.amount = Money(qty * item.price);
  line.description = random.Below(5) == 0 ? "急用" : "";
}

std::vector<TBillLine> TSalesData::MakeBill(int interId, int lineCount, TBenchRandom& random) const {
  TBillLine head;
  head.interId = interId;
  char text[64];
  std::snprintf(text, sizeof text, "XS%04d", interId);
  head.billNo = text;
  const int dayOfYear = random.Below(366);
  static constexpr int kMonthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int month = 0, day = dayOfYear;
  while (day >= kMonthDays[month]) day -= kMonthDays[month++];
  std::snprintf(text, sizeof text, "2024-%02d-%02d", month + 1, day + 1);
  head.date = text;
  const int customer = random.Below(kCustomers);
  head.customer = customers_[static_cast<size_t>(customer)];
  head.contractNo = random.Below(2) ? "HT2024-" + std::to_string(random.Below(10000)) : "";
  head.address = head.customer.substr(0, 6) + "市工业园区" + std::to_string(1 + random.Below(300)) + "号";
  head.plate = "浙A" + std::to_string(10000 + random.Below(90000));
  head.writer = kPeople[random.Below(std::size(kPeople))];
  head.handler = kPeople[random.Below(std::size(kPeople))];
  head.salesman = kPeople[random.Below(std::size(kPeople))];
  head.memo = random.Below(4) == 0 ? "送货上门" : "";
  head.payment = random.Below(2) ? "现金" : "月结";
  std::vector<TBillLine> lines(static_cast<size_t>(lineCount), head);
  for (int n = 0; n < lineCount; ++n) {
    lines[static_cast<size_t>(n)].entryId = n + 1;
    FillBillLine(lines[static_cast<size_t>(n)], random);
  }
  return lines;
}

std::vector<TBillLine> TSalesData::MakeBills(int lineCount, int firstInterId, TBenchRandom& random) const {
  std::vector<TBillLine> lines;
  lines.reserve(static_cast<size_t>(lineCount));
  for (int interId = firstInterId; static_cast<int>(lines.size()) < lineCount; ++interId) {
    const int size = std::min(1 + random.Below(30), lineCount - static_cast<int>(lines.size()));
    for (TBillLine& line : MakeBill(interId, size, random)) lines.push_back(std::move(line));
  }
  return lines;
}

std::vector<TProduct> TSalesData::MakeCatalogue(int count, int firstModelId, TBenchRandom& random) const {
  const int perPrefix = static_cast<int>(std::size(kModels) * std::size(kCores) * std::size(kSections));
  const int combos = perPrefix * static_cast<int>(std::size(kPrefixes));
  // A stride prime to the number of combinations visits each once.
  const int stride = 7919;
  std::vector<TProduct> products;
  products.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const int pick = static_cast<int>((static_cast<int64_t>(i) * stride) % combos);
    const int prefix = pick / perPrefix;
    const int rest = pick % perPrefix;
    const TModel& m = kModels[rest % std::size(kModels)];
    const int shape = rest / static_cast<int>(std::size(kModels));
    TProduct p;
    p.modelId = firstModelId + i;
    p.classId = 1 + rest % static_cast<int>(std::size(kModels));
    p.code = "P" + std::to_string(100000 + i);
    p.name = std::string(kPrefixes[prefix]) + m.name;
    p.model = std::string(kPrefixes[prefix]) + m.model;
    p.spec = Spec(kCores[shape % std::size(kCores)], kSections[shape / std::size(kCores)]);
    p.unit = "米";
    const double factory = 0.5 + random.Below(50000) / 100.0;
    p.factoryPrice = Money(factory);
    p.listPrice = Money(factory * 1.3);
    p.weight = random.Below(3) ? Money(factory / 20) : "";
    p.barcode = random.Below(4) == 0 ? "69" + std::to_string(1000000000LL + random.Below(900000000)) : "";
    for (size_t s = 0; s < p.salePrices.size(); ++s) p.salePrices[s] = Money(factory * (1.1 + 0.05 * s));
    p.index = 1 + i / static_cast<int>(std::size(kModels));
    products.push_back(std::move(p));
  }
  return products;
}

std::string QuoteSql(std::string_view value) {
  std::string quoted;
  quoted.reserve(value.size() + 2);
  quoted += '\'';
  for (char c : value) {
    if (c == '\'') quoted += '\'';
    quoted += c;
  }
  quoted += '\'';
  return quoted;
}

std::string BillInsertSql(const TBillLine& l) {
  const std::string interId = std::to_string(l.interId);
  const std::string entryId = std::to_string(l.entryId);
  std::vector<const std::string*> values = {&interId,    &entryId,   &l.billNo,  &l.date,    &l.customer, &l.contractNo,
                                            &l.address,  &l.plate,   &l.writer,  &l.handler, &l.salesman, &l.memo,
                                            &l.code,     &l.name,    &l.model,   &l.spec,    &l.qty,      &l.unit,
                                            &l.price,    &l.amount,  &l.colour,  &l.pack};
  for (const std::string& c : l.colourQty) values.push_back(&c);
  values.push_back(&l.payment);
  values.push_back(&l.description);
  return SqlOf(
      " insert into cqsalebill(FInterID,FEntryID,fbillno,FDate,fcs,\r fcontractno,faddress,fchepai,fzhidan,fjingshou,"
      "fyewuyuan,fmemo,\r fbianma,Fname,fxinghao,fguige,fqty,funit,fprice,famount,fcolor,fpack,FC01,FC02,FC03,FC04,"
      "FC05,FC06,FC07,FC08,FC09,FC10,ffukuan,fdescription)Values(\r",
      values);
}

std::string ProductInsertSql(const TProduct& p) {
  const std::string modelId = std::to_string(p.modelId);
  const std::string classId = std::to_string(p.classId);
  const std::string hide = "0";
  const std::string index = std::to_string(p.index);
  std::vector<const std::string*> values = {&modelId, &classId,        &p.code,      &p.name,   &p.model,  &p.spec,
                                            &p.unit,  &p.factoryPrice, &p.listPrice, &p.weight, &p.barcode};
  for (const std::string& s : p.salePrices) values.push_back(&s);
  values.push_back(&hide);
  values.push_back(&index);
  return SqlOf(
      " Insert into cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,\r FFactoryPrice,FHongbenPrice,"
      "FWeight,ftiaoma,FSalePrice1,FSalePrice2,FSalePrice3,\r FSalePrice4,FSalePrice5,FHide,FIndex)values(\r",
      values);
}

std::string BillDeleteSql(int interId) { return "delete from cqsalebill where FInterID=" + std::to_string(interId); }

std::string BillLoadSql(int interId) {
  return "select * from cqsalebill where FInterID=" + std::to_string(interId) + " order by fentryid asc ";
}

namespace {
std::string PeriodRest(const std::string& to) {
  return std::string(" and TOSTRING(fdate,") + "'" + "yyyy-mm-dd" + "'" + ")<=" + "'" + to + "'";
}
}  // namespace

std::string BillSearchSql(const std::string& from, const std::string& to) {
  return " select FInterID,fbillno,FDate,fcs,fcontractno,fzhidan,fjingshou,\r fyewuyuan,sum(Fqty) as fqty,sum(FAmount) "
         "as famount \r from cqsalebill \r where TOSTRING(fdate,'yyyy-mm-dd')>='" +
         from + "'" + PeriodRest(to) + "\r" + " group by        " + "\r" +
         " FInterID,fbillno,FDate,fcs,fcontractno,fzhidan,fjingshou,fyewuyuan " + "\r" + " order by fdate asc ";
}

std::string ReportSql(TReport report, const std::string& from, const std::string& to, const std::string& customer) {
  const char* head = "";
  std::string tail;
  switch (report) {
    case TReport::Records:
      head = " select FInterID,fbillno,FDate,fcontractno,fcs,fname,fxinghao,fguige,fcolor,fpack,fqty,\r fprice,funit,"
             "famount,fdescription,fzhidan,fjingshou,fyewuyuan,faddress,fchepai,fmemo \r from cqsalebill \r where "
             "TOSTRING(fdate,'yyyy-mm-dd')>='";
      tail = " order by FInterID asc, FEntryID asc ";
      break;
    case TReport::Customers:
      head = " select fcs,sum(Fqty) as fqty,sum(FAmount) as famount \r from cqsalebill \r where "
             "TOSTRING(fdate,'yyyy-mm-dd')>='";
      tail = std::string(" group by fcs ") + "\r" + " order by fcs asc ";
      break;
    case TReport::Products:
      head = " select fname,fxinghao,fguige,sum(Fqty) as fqty,sum(FAmount) as famount \r from cqsalebill \r where "
             "TOSTRING(fdate,'yyyy-mm-dd')>='";
      tail = std::string(" group by fname,fxinghao,fguige ") + "\r" + " order by fname,fxinghao,fguige asc ";
      break;
    case TReport::CustomerProduct:
      head = " select fcs,fname,fxinghao,fguige,funit,sum(fqty) as fqty,sum(famount) as famount \r from cqsalebill \r "
             "where TOSTRING(fdate,'yyyy-mm-dd')>='";
      tail = " group by fcs,fname,fxinghao,fguige,funit order by fcs asc ";
      break;
    case TReport::ProductCustomer:
      head = " select fname,fxinghao,fguige,funit,fcs,sum(fqty) as fqty,sum(famount) as famount \r from cqsalebill \r "
             "where TOSTRING(fdate,'yyyy-mm-dd')>='";
      tail = " group by fname,fxinghao,fguige,funit,fcs order by fname,fxinghao,fguige,funit,fcs ";
      break;
  }
  const std::string filter = customer.empty() ? "" : " and fcs='" + customer + "'";
  return head + from + "'" + PeriodRest(to) + "\r" + filter + "\r" + tail;
}

std::string ProductSearchSql(const std::vector<std::string>& terms) {
  // The visible columns of the catalogue list in the initial layout.
  static const char* kFields =
      "FModelID,FIndex,FBianma,FName,FXinghao,FGuige,FUnit,FFactoryPrice,FHongbenPrice,FWeight,ftiaoma,FSalePrice1,"
      "FSalePrice2,FSalePrice3,FSalePrice4,FSalePrice5";
  std::string groups;
  for (size_t i = 0; i < terms.size(); ++i) {
    std::string upper = terms[i];
    for (char& c : upper)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    const std::string pattern = "'%" + upper + "%'";
    groups += i == 0 ? " (Upper(FXinghao) like " : " and (Upper(FXinghao) like ";
    groups += pattern + " or " + " Upper(FGuige) like " + pattern + ")";
  }
  return std::string("select ") + kFields + " from cqproduct where fhide=0 and " + groups +
         " order by fxinghao asc,fguige asc ";
}

std::string NextNumberSql(const std::string& table, const std::string& column, const std::string& condition) {
  return "select max(" + column + ") as " + column + " from " + table + " " + condition;
}

}  // namespace bench
