-- The initial database of the program: every table with its columns, the
-- system parameters, the list layouts, lookup lists, knowledge tables, hints
-- and a starter catalogue. The build runs this script through the engine to
-- make data/cpbill in the program directory.

-- System parameters, one row each; fname is the key the program looks them up by.
CREATE TABLE pisysparameter(
  fitemid INTEGER,
  fname VARCHAR(100),
  fparameter VARCHAR(255),
  fhide INTEGER DEFAULT 0,
  findex INTEGER
);

-- Column layouts of the lists.
CREATE TABLE picxGridsetting(
  fitemid INTEGER,
  ftablename VARCHAR(60),
  ffieldname VARCHAR(60),
  fshowname VARCHAR(60),
  fwidth INTEGER,
  falign INTEGER,
  fhide INTEGER DEFAULT 0,
  fsethide INTEGER DEFAULT 0,
  findex INTEGER
);

-- Customer classes (FParentID 0) and customers in one tree.
CREATE TABLE picuslink(
  FItemID AUTOINC,
  FParentID INTEGER,
  FName VARCHAR(120),
  FHide INTEGER DEFAULT 0,
  FIndex INTEGER,
  fgroup VARCHAR(60),
  faddress VARCHAR(200),
  fpostcode VARCHAR(60),
  fphone VARCHAR(60),
  ffax VARCHAR(60),
  fcity VARCHAR(60),
  fprovince VARCHAR(60),
  fcountry VARCHAR(60),
  flinker VARCHAR(60),
  flinkerphone VARCHAR(60),
  ffaren VARCHAR(60),
  fyingyezhizhao VARCHAR(60),
  fkaihuhang VARCHAR(60),
  fzhanghao VARCHAR(60),
  fshuihao VARCHAR(60),
  femail VARCHAR(100),
  femployees VARCHAR(60),
  fregamount VARCHAR(60),
  fannualsale VARCHAR(60),
  fhangye VARCHAR(60),
  fiso VARCHAR(60),
  fhttp VARCHAR(200),
  ffirstdate VARCHAR(60),
  fmemo VARCHAR(255),
  fadddate VARCHAR(60)
);

-- Contact classes and contacts in one tree.
CREATE TABLE piperlink(
  FItemID AUTOINC,
  FParentID INTEGER,
  FName VARCHAR(120),
  FHide INTEGER DEFAULT 0,
  FIndex INTEGER,
  fgroup VARCHAR(60),
  fchenghu VARCHAR(60),
  fsex VARCHAR(60),
  fnickname VARCHAR(60),
  fprovince VARCHAR(60),
  fcity VARCHAR(60),
  faddress VARCHAR(200),
  fpostcode VARCHAR(60),
  ffamilyphone VARCHAR(60),
  fxiaolingtong VARCHAR(60),
  fmobile VARCHAR(60),
  fblog VARCHAR(60),
  fperhttp VARCHAR(60),
  fcompany VARCHAR(60),
  fdepartment VARCHAR(60),
  fduty VARCHAR(60),
  fofficephone VARCHAR(60),
  fofficefax VARCHAR(60),
  fhttp VARCHAR(200),
  fcompanyaddress VARCHAR(200),
  fpeiou VARCHAR(60),
  fbirthday VARCHAR(60),
  fchengyuan VARCHAR(60),
  fmemory VARCHAR(255),
  ffirstdate VARCHAR(60),
  faihao VARCHAR(60),
  ftechang VARCHAR(60),
  femail VARCHAR(100),
  fqq VARCHAR(60),
  fmsn VARCHAR(60),
  fmemo VARCHAR(255),
  fadddate VARCHAR(60)
);

-- Product major classes (FParentID 0) and classes.
CREATE TABLE cqproductclass(
  FClassID INTEGER,
  FParentID INTEGER,
  FName VARCHAR(100),
  FHide INTEGER DEFAULT 0,
  FIndex INTEGER
);

-- One row per model and specification.
CREATE TABLE cqproduct(
  FModelID INTEGER,
  FClassID INTEGER,
  FBianma VARCHAR(60),
  FName VARCHAR(120),
  FXinghao VARCHAR(80),
  FGuige VARCHAR(80),
  FUnit VARCHAR(20),
  FFactoryPrice FLOAT,
  FHongbenPrice FLOAT,
  FWeight FLOAT,
  ftiaoma VARCHAR(100),
  FSalePrice1 FLOAT,
  FSalePrice2 FLOAT,
  FSalePrice3 FLOAT,
  FSalePrice4 FLOAT,
  FSalePrice5 FLOAT,
  FHide INTEGER DEFAULT 0,
  FIndex INTEGER
);

-- Sale bills: one row per bill line, the header repeated on every line.
CREATE TABLE cqsalebill(
  FInterID INTEGER,
  FEntryID INTEGER,
  fbillno VARCHAR(40),
  FDate DATE,
  fcs VARCHAR(120),
  fcontractno VARCHAR(60),
  faddress VARCHAR(200),
  fchepai VARCHAR(30),
  fzhidan VARCHAR(30),
  fjingshou VARCHAR(30),
  fyewuyuan VARCHAR(30),
  fmemo VARCHAR(255),
  fbianma VARCHAR(60),
  Fname VARCHAR(120),
  fxinghao VARCHAR(80),
  fguige VARCHAR(80),
  fqty FLOAT,
  funit VARCHAR(20),
  fprice FLOAT,
  famount FLOAT,
  fcolor VARCHAR(30),
  fpack VARCHAR(30),
  FC01 FLOAT,
  FC02 FLOAT,
  FC03 FLOAT,
  FC04 FLOAT,
  FC05 FLOAT,
  FC06 FLOAT,
  FC07 FLOAT,
  FC08 FLOAT,
  FC09 FLOAT,
  FC10 FLOAT,
  ffukuan VARCHAR(100),
  fdescription VARCHAR(255)
);

CREATE INDEX i_salebill_interid ON cqsalebill(FInterID);
CREATE INDEX i_product_class ON cqproduct(FClassID);

-- Lookup lists.
CREATE TABLE cqUnit(
  FItemID INTEGER,
  FName VARCHAR(20),
  FDefault INTEGER DEFAULT 0
);

CREATE TABLE cqColor(
  FItemID INTEGER,
  FName VARCHAR(30)
);

CREATE TABLE cqPack(
  FItemID INTEGER,
  FName VARCHAR(30)
);

CREATE TABLE cqstandard(
  FItemID INTEGER,
  FName VARCHAR(100),
  fhide INTEGER DEFAULT 0,
  FDefault INTEGER DEFAULT 0
);

-- The index of the knowledge viewer.
CREATE TABLE piknowledgeindex(
  FItemID INTEGER,
  FCaption VARCHAR(100),
  ftablename VARCHAR(60),
  FHide INTEGER DEFAULT 0,
  FIndex INTEGER
);

-- Tables the schema upgrade would otherwise create on first start.
CREATE TABLE cqchangeprice(finterid Integer,ftime char(30),fuser char(60),fmatname char(60),foldprice char(20),fnewprice char(20));
CREATE TABLE cqfriendhint(finterid Integer,fhint char(200));

-- System parameters (the password is the MD5 digest of the empty text).
INSERT INTO pisysparameter(fitemid,fname,fparameter,fhide,findex) VALUES(1,'用户名','管理员',0,1);
INSERT INTO pisysparameter(fitemid,fname,fparameter,fhide,findex) VALUES(2,'密码','d41d8cd98f00b204e9800998ecf8427e',0,2);
INSERT INTO pisysparameter(fitemid,fname,fparameter,fhide,findex) VALUES(3,'单价精度','0.00',0,3);
INSERT INTO pisysparameter(fitemid,fname,fparameter,fhide,findex) VALUES(4,'数量精度','0.00',0,4);
INSERT INTO pisysparameter(fitemid,fname,fparameter,fhide,findex) VALUES(5,'单据前缀','XS',0,5);
INSERT INTO pisysparameter(fitemid,fname,fparameter,fhide,findex) VALUES(6,'单据编号','0',0,6);
INSERT INTO pisysparameter(fitemid,fname,fparameter,fhide,findex) VALUES(7,'默认客户','',0,7);
INSERT INTO pisysparameter(fitemid,fname,fparameter,fhide,findex) VALUES(8,'显示大写','1',0,8);
INSERT INTO pisysparameter(fitemid,fname,fparameter,fhide,findex) VALUES(9,'销售单列取数来自','1',0,9);
INSERT INTO pisysparameter(fitemid,fname,fparameter,fhide,findex) VALUES(10,'产品重复处理方式','1',0,10);
INSERT INTO pisysparameter(fitemid,fname,fparameter,fhide,findex) VALUES(11,'名称型号规格','1',0,11);
INSERT INTO pisysparameter(fitemid,fname,fparameter,fhide,findex) VALUES(14,'打印时自动保存','1',0,14);
INSERT INTO pisysparameter(fitemid,fname,fparameter,fhide,findex) VALUES(15,'保存成功是否提示','1',0,15);
INSERT INTO pisysparameter(fitemid,fname,fparameter,fhide,findex) VALUES(16,'条形码最短长度','5',0,16);
INSERT INTO pisysparameter(fitemid,fname,fparameter,fhide,findex) VALUES(17,'启用条码功能','0',0,17);
INSERT INTO pisysparameter(fitemid,fname,fparameter,fhide,findex) VALUES(19,'是否空表格补齐','1',0,19);
INSERT INTO pisysparameter(fitemid,fname,fparameter,fhide,findex) VALUES(20,'是否严格要求颜色数量字段之和等于总数量','1',0,20);

-- List layouts. Keys stand in a hidden first column; the windows rely on
-- the name columns standing where they read them.
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(1,'picuslink','FItemID','编号',0,-1,0,1,1);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(2,'picuslink','FIndex','序号',40,0,0,0,2);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(3,'picuslink','FName','客户名称',200,-1,0,0,3);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(4,'picuslink','fgroup','客户分组',80,-1,0,0,4);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(5,'picuslink','flinker','联系人',80,-1,0,0,5);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(6,'picuslink','flinkerphone','联系电话',110,-1,0,0,6);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(7,'picuslink','fphone','电话',110,-1,0,0,7);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(8,'picuslink','ffax','传真',110,-1,0,0,8);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(9,'picuslink','faddress','地址',220,-1,0,0,9);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(10,'picuslink','fcity','城市',70,-1,0,0,10);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(11,'picuslink','fprovince','省份',70,-1,0,0,11);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(12,'picuslink','fpostcode','邮编',60,0,0,0,12);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(13,'picuslink','femail','电子邮件',140,-1,0,0,13);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(14,'picuslink','fkaihuhang','开户行',140,-1,0,0,14);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(15,'picuslink','fzhanghao','账号',140,-1,0,0,15);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(16,'picuslink','fshuihao','税号',140,-1,0,0,16);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(17,'picuslink','fmemo','备注',200,-1,0,0,17);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(18,'picuslink','fadddate','添加日期',90,0,0,0,18);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(19,'piperlink','FItemID','编号',0,-1,0,1,1);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(20,'piperlink','FIndex','序号',40,0,0,0,2);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(21,'piperlink','FName','姓名',100,-1,0,0,3);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(22,'piperlink','fchenghu','称呼',60,-1,0,0,4);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(23,'piperlink','fsex','性别',40,0,0,0,5);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(24,'piperlink','fmobile','手机',110,-1,0,0,6);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(25,'piperlink','fofficephone','办公电话',110,-1,0,0,7);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(26,'piperlink','fcompany','单位',200,-1,0,0,8);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(27,'piperlink','fdepartment','部门',80,-1,0,0,9);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(28,'piperlink','fduty','职务',80,-1,0,0,10);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(29,'piperlink','femail','电子邮件',140,-1,0,0,11);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(30,'piperlink','fqq','QQ',90,-1,0,0,12);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(31,'piperlink','faddress','地址',200,-1,0,0,13);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(32,'piperlink','fbirthday','生日',80,0,0,0,14);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(33,'piperlink','fmemo','备注',200,-1,0,0,15);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(34,'piperlink','fadddate','添加日期',90,0,0,0,16);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(35,'cqproduct','FModelID','编号',0,-1,0,1,1);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(36,'cqproduct','FIndex','序号',40,0,0,0,2);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(37,'cqproduct','FBianma','产品编码',80,-1,0,0,3);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(38,'cqproduct','FName','产品名称',200,-1,0,0,4);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(39,'cqproduct','FXinghao','型号',110,-1,0,0,5);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(40,'cqproduct','FGuige','规格',110,-1,0,0,6);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(41,'cqproduct','FUnit','单位',50,0,0,0,7);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(42,'cqproduct','FFactoryPrice','出厂价',70,1,0,0,8);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(43,'cqproduct','FHongbenPrice','红本价',70,1,0,0,9);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(44,'cqproduct','FWeight','重量',60,1,0,0,10);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(45,'cqproduct','ftiaoma','条形码',110,-1,0,0,11);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(46,'cqproduct','FSalePrice1','售价1',60,1,0,0,12);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(47,'cqproduct','FSalePrice2','售价2',60,1,0,0,13);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(48,'cqproduct','FSalePrice3','售价3',60,1,0,0,14);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(49,'cqproduct','FSalePrice4','售价4',60,1,0,0,15);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(50,'cqproduct','FSalePrice5','售价5',60,1,0,0,16);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(51,'cqsalebill','FInterID','内码',0,-1,0,0,1);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(52,'cqsalebill','FEntryID','行号',0,-1,0,0,2);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(53,'cqsalebill','FBianma','编码',70,-1,0,0,3);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(54,'cqsalebill','FName','产品名称',160,-1,0,0,4);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(55,'cqsalebill','FXinghao','型号',110,-1,0,0,5);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(56,'cqsalebill','FGuige','规格',110,-1,0,0,6);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(57,'cqsalebill','FColor','颜色',50,0,0,0,7);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(58,'cqsalebill','FPack','包装',50,0,0,0,8);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(59,'cqsalebill','FQty','数量',70,1,0,0,9);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(60,'cqsalebill','FUnit','单位',45,0,0,0,10);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(61,'cqsalebill','FPrice','单价',70,1,0,0,11);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(62,'cqsalebill','FAmount','金额',90,1,0,0,12);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(63,'cqsalebill','FC01','红',40,1,0,0,13);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(64,'cqsalebill','FC02','黄',40,1,0,0,14);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(65,'cqsalebill','FC03','绿',40,1,0,0,15);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(66,'cqsalebill','FC04','蓝',40,1,0,0,16);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(67,'cqsalebill','FC05','黑',40,1,0,0,17);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(68,'cqsalebill','FC06','白',40,1,0,0,18);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(69,'cqsalebill','FC07','棕',40,1,0,0,19);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(70,'cqsalebill','FC08','灰',40,1,0,0,20);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(71,'cqsalebill','FC09','黄绿',40,1,0,0,21);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(72,'cqsalebill','FC10','其他',40,1,0,0,22);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(73,'cqsalebill','FDescription','备注',150,-1,0,0,23);

-- Lookup lists: units (米 is the default), colours, packings, standards.
INSERT INTO cqUnit(FItemID,FName,FDefault) VALUES(1,'米',1);
INSERT INTO cqUnit(FItemID,FName,FDefault) VALUES(2,'千米',0);
INSERT INTO cqUnit(FItemID,FName,FDefault) VALUES(3,'KM',0);
INSERT INTO cqUnit(FItemID,FName,FDefault) VALUES(4,'公里',0);
INSERT INTO cqUnit(FItemID,FName,FDefault) VALUES(5,'M',0);
INSERT INTO cqUnit(FItemID,FName,FDefault) VALUES(6,'卷',0);
INSERT INTO cqUnit(FItemID,FName,FDefault) VALUES(7,'盘',0);
INSERT INTO cqUnit(FItemID,FName,FDefault) VALUES(8,'轴',0);
INSERT INTO cqUnit(FItemID,FName,FDefault) VALUES(9,'根',0);
INSERT INTO cqUnit(FItemID,FName,FDefault) VALUES(10,'个',0);
INSERT INTO cqColor(FItemID,FName) VALUES(1,'红');
INSERT INTO cqColor(FItemID,FName) VALUES(2,'黄');
INSERT INTO cqColor(FItemID,FName) VALUES(3,'绿');
INSERT INTO cqColor(FItemID,FName) VALUES(4,'蓝');
INSERT INTO cqColor(FItemID,FName) VALUES(5,'黑');
INSERT INTO cqColor(FItemID,FName) VALUES(6,'白');
INSERT INTO cqColor(FItemID,FName) VALUES(7,'棕');
INSERT INTO cqColor(FItemID,FName) VALUES(8,'灰');
INSERT INTO cqColor(FItemID,FName) VALUES(9,'黄绿');
INSERT INTO cqColor(FItemID,FName) VALUES(10,'红白');
INSERT INTO cqColor(FItemID,FName) VALUES(11,'蓝白');
INSERT INTO cqColor(FItemID,FName) VALUES(12,'本色');
INSERT INTO cqPack(FItemID,FName) VALUES(1,'卷');
INSERT INTO cqPack(FItemID,FName) VALUES(2,'盘');
INSERT INTO cqPack(FItemID,FName) VALUES(3,'木轴');
INSERT INTO cqPack(FItemID,FName) VALUES(4,'铁木轴');
INSERT INTO cqPack(FItemID,FName) VALUES(5,'散装');
INSERT INTO cqPack(FItemID,FName) VALUES(6,'纸箱');
INSERT INTO cqstandard(FItemID,FName,fhide,FDefault) VALUES(1,'GB/T 12706-2020 额定电压1kV到35kV挤包绝缘电力电缆',0,1);
INSERT INTO cqstandard(FItemID,FName,fhide,FDefault) VALUES(2,'GB/T 5023-2008 额定电压450/750V及以下聚氯乙烯绝缘电缆',0,0);
INSERT INTO cqstandard(FItemID,FName,fhide,FDefault) VALUES(3,'GB/T 9330-2020 塑料绝缘控制电缆',0,0);
INSERT INTO cqstandard(FItemID,FName,fhide,FDefault) VALUES(4,'JB/T 8734-2016 额定电压450/750V及以下聚氯乙烯绝缘电缆电线和软线',0,0);
INSERT INTO cqstandard(FItemID,FName,fhide,FDefault) VALUES(5,'GB/T 3956-2008 电缆的导体',0,0);
INSERT INTO cqstandard(FItemID,FName,fhide,FDefault) VALUES(6,'GB/T 19666-2019 阻燃和耐火电线电缆',0,0);

-- Knowledge tables.
CREATE TABLE kn_resistance(
  fitemid INTEGER,
  fhide INTEGER DEFAULT 0,
  fsection VARCHAR(20),
  fcu2 VARCHAR(20),
  fal2 VARCHAR(20),
  fcu5 VARCHAR(20)
);

INSERT INTO kn_resistance(fitemid,fhide,fsection,fcu2,fal2,fcu5) VALUES(1,0,'0.5','36.0','','39.0');
INSERT INTO kn_resistance(fitemid,fhide,fsection,fcu2,fal2,fcu5) VALUES(2,0,'0.75','24.5','','26.0');
INSERT INTO kn_resistance(fitemid,fhide,fsection,fcu2,fal2,fcu5) VALUES(3,0,'1','18.1','','19.5');
INSERT INTO kn_resistance(fitemid,fhide,fsection,fcu2,fal2,fcu5) VALUES(4,0,'1.5','12.1','','13.3');
INSERT INTO kn_resistance(fitemid,fhide,fsection,fcu2,fal2,fcu5) VALUES(5,0,'2.5','7.41','','7.98');
INSERT INTO kn_resistance(fitemid,fhide,fsection,fcu2,fal2,fcu5) VALUES(6,0,'4','4.61','','4.95');
INSERT INTO kn_resistance(fitemid,fhide,fsection,fcu2,fal2,fcu5) VALUES(7,0,'6','3.08','','3.30');
INSERT INTO kn_resistance(fitemid,fhide,fsection,fcu2,fal2,fcu5) VALUES(8,0,'10','1.83','3.08','1.91');
INSERT INTO kn_resistance(fitemid,fhide,fsection,fcu2,fal2,fcu5) VALUES(9,0,'16','1.15','1.91','1.21');
INSERT INTO kn_resistance(fitemid,fhide,fsection,fcu2,fal2,fcu5) VALUES(10,0,'25','0.727','1.20','0.780');
INSERT INTO kn_resistance(fitemid,fhide,fsection,fcu2,fal2,fcu5) VALUES(11,0,'35','0.524','0.868','0.554');
INSERT INTO kn_resistance(fitemid,fhide,fsection,fcu2,fal2,fcu5) VALUES(12,0,'50','0.387','0.641','0.386');
INSERT INTO kn_resistance(fitemid,fhide,fsection,fcu2,fal2,fcu5) VALUES(13,0,'70','0.268','0.443','0.272');
INSERT INTO kn_resistance(fitemid,fhide,fsection,fcu2,fal2,fcu5) VALUES(14,0,'95','0.193','0.320','0.206');
INSERT INTO kn_resistance(fitemid,fhide,fsection,fcu2,fal2,fcu5) VALUES(15,0,'120','0.153','0.253','0.161');
INSERT INTO kn_resistance(fitemid,fhide,fsection,fcu2,fal2,fcu5) VALUES(16,0,'150','0.124','0.206','0.129');
INSERT INTO kn_resistance(fitemid,fhide,fsection,fcu2,fal2,fcu5) VALUES(17,0,'185','0.0991','0.164','0.106');
INSERT INTO kn_resistance(fitemid,fhide,fsection,fcu2,fal2,fcu5) VALUES(18,0,'240','0.0754','0.125','0.0801');
INSERT INTO kn_resistance(fitemid,fhide,fsection,fcu2,fal2,fcu5) VALUES(19,0,'300','0.0601','0.100','');
INSERT INTO kn_resistance(fitemid,fhide,fsection,fcu2,fal2,fcu5) VALUES(20,0,'400','0.0470','0.0778','');
INSERT INTO kn_resistance(fitemid,fhide,fsection,fcu2,fal2,fcu5) VALUES(21,0,'500','0.0366','0.0605','');
INSERT INTO kn_resistance(fitemid,fhide,fsection,fcu2,fal2,fcu5) VALUES(22,0,'630','0.0283','0.0469','');
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(74,'kn_resistance','fitemid','序号',40,0,0,0,1);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(75,'kn_resistance','fsection','标称截面(mm²)',80,0,0,0,2);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(76,'kn_resistance','fcu2','第2类铜导体(Ω/km)',80,1,0,0,3);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(77,'kn_resistance','fal2','第2类铝导体(Ω/km)',80,1,0,0,4);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(78,'kn_resistance','fcu5','第5类软铜导体(Ω/km)',80,1,0,0,5);

CREATE TABLE kn_ampacity(
  fitemid INTEGER,
  fhide INTEGER DEFAULT 0,
  fsection VARCHAR(20),
  fpvc VARCHAR(20),
  fxlpe VARCHAR(20),
  fnote VARCHAR(120)
);

INSERT INTO kn_ampacity(fitemid,fhide,fsection,fpvc,fxlpe,fnote) VALUES(1,0,'1.5','19.5','24','IEC 60364-5-52 敷设方式C，两芯负载，空气30℃');
INSERT INTO kn_ampacity(fitemid,fhide,fsection,fpvc,fxlpe,fnote) VALUES(2,0,'2.5','27','33','IEC 60364-5-52 敷设方式C，两芯负载，空气30℃');
INSERT INTO kn_ampacity(fitemid,fhide,fsection,fpvc,fxlpe,fnote) VALUES(3,0,'4','36','45','IEC 60364-5-52 敷设方式C，两芯负载，空气30℃');
INSERT INTO kn_ampacity(fitemid,fhide,fsection,fpvc,fxlpe,fnote) VALUES(4,0,'6','46','58','IEC 60364-5-52 敷设方式C，两芯负载，空气30℃');
INSERT INTO kn_ampacity(fitemid,fhide,fsection,fpvc,fxlpe,fnote) VALUES(5,0,'10','63','80','IEC 60364-5-52 敷设方式C，两芯负载，空气30℃');
INSERT INTO kn_ampacity(fitemid,fhide,fsection,fpvc,fxlpe,fnote) VALUES(6,0,'16','85','107','IEC 60364-5-52 敷设方式C，两芯负载，空气30℃');
INSERT INTO kn_ampacity(fitemid,fhide,fsection,fpvc,fxlpe,fnote) VALUES(7,0,'25','112','138','IEC 60364-5-52 敷设方式C，两芯负载，空气30℃');
INSERT INTO kn_ampacity(fitemid,fhide,fsection,fpvc,fxlpe,fnote) VALUES(8,0,'35','138','171','IEC 60364-5-52 敷设方式C，两芯负载，空气30℃');
INSERT INTO kn_ampacity(fitemid,fhide,fsection,fpvc,fxlpe,fnote) VALUES(9,0,'50','168','209','IEC 60364-5-52 敷设方式C，两芯负载，空气30℃');
INSERT INTO kn_ampacity(fitemid,fhide,fsection,fpvc,fxlpe,fnote) VALUES(10,0,'70','213','269','IEC 60364-5-52 敷设方式C，两芯负载，空气30℃');
INSERT INTO kn_ampacity(fitemid,fhide,fsection,fpvc,fxlpe,fnote) VALUES(11,0,'95','258','328','IEC 60364-5-52 敷设方式C，两芯负载，空气30℃');
INSERT INTO kn_ampacity(fitemid,fhide,fsection,fpvc,fxlpe,fnote) VALUES(12,0,'120','299','382','IEC 60364-5-52 敷设方式C，两芯负载，空气30℃');
INSERT INTO kn_ampacity(fitemid,fhide,fsection,fpvc,fxlpe,fnote) VALUES(13,0,'150','344','441','IEC 60364-5-52 敷设方式C，两芯负载，空气30℃');
INSERT INTO kn_ampacity(fitemid,fhide,fsection,fpvc,fxlpe,fnote) VALUES(14,0,'185','392','506','IEC 60364-5-52 敷设方式C，两芯负载，空气30℃');
INSERT INTO kn_ampacity(fitemid,fhide,fsection,fpvc,fxlpe,fnote) VALUES(15,0,'240','461','599','IEC 60364-5-52 敷设方式C，两芯负载，空气30℃');
INSERT INTO kn_ampacity(fitemid,fhide,fsection,fpvc,fxlpe,fnote) VALUES(16,0,'300','530','693','IEC 60364-5-52 敷设方式C，两芯负载，空气30℃');
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(79,'kn_ampacity','fitemid','序号',40,0,0,0,1);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(80,'kn_ampacity','fsection','标称截面(mm²)',80,0,0,0,2);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(81,'kn_ampacity','fpvc','聚氯乙烯绝缘(A)',80,1,0,0,3);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(82,'kn_ampacity','fxlpe','交联聚乙烯绝缘(A)',80,1,0,0,4);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(83,'kn_ampacity','fnote','条件',300,-1,0,0,5);

CREATE TABLE kn_models(
  fitemid INTEGER,
  fhide INTEGER DEFAULT 0,
  fmodel VARCHAR(30),
  fname VARCHAR(100),
  fuse VARCHAR(120)
);

INSERT INTO kn_models(fitemid,fhide,fmodel,fname,fuse) VALUES(1,0,'YJV','交联聚乙烯绝缘聚氯乙烯护套电力电缆','0.6/1kV 及中压配电，敷设于室内、隧道、管道');
INSERT INTO kn_models(fitemid,fhide,fmodel,fname,fuse) VALUES(2,0,'YJV22','交联聚乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','直埋敷设，能承受机械外力');
INSERT INTO kn_models(fitemid,fhide,fmodel,fname,fuse) VALUES(3,0,'YJV32','交联聚乙烯绝缘细钢丝铠装聚氯乙烯护套电力电缆','竖井、水中，能承受拉力');
INSERT INTO kn_models(fitemid,fhide,fmodel,fname,fuse) VALUES(4,0,'YJLV','铝芯交联聚乙烯绝缘聚氯乙烯护套电力电缆','配电线路，重量轻');
INSERT INTO kn_models(fitemid,fhide,fmodel,fname,fuse) VALUES(5,0,'VV','聚氯乙烯绝缘聚氯乙烯护套电力电缆','0.6/1kV 配电，室内、隧道、管道');
INSERT INTO kn_models(fitemid,fhide,fmodel,fname,fuse) VALUES(6,0,'VV22','聚氯乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','直埋敷设');
INSERT INTO kn_models(fitemid,fhide,fmodel,fname,fuse) VALUES(7,0,'BV','铜芯聚氯乙烯绝缘电线','固定布线，穿管或明敷');
INSERT INTO kn_models(fitemid,fhide,fmodel,fname,fuse) VALUES(8,0,'BVR','铜芯聚氯乙烯绝缘软电线','要求柔软的固定布线、配电柜');
INSERT INTO kn_models(fitemid,fhide,fmodel,fname,fuse) VALUES(9,0,'BVV','铜芯聚氯乙烯绝缘聚氯乙烯护套圆型电线','明敷或暗敷的固定布线');
INSERT INTO kn_models(fitemid,fhide,fmodel,fname,fuse) VALUES(10,0,'BVVB','铜芯聚氯乙烯绝缘聚氯乙烯护套扁型电线','家装明敷布线');
INSERT INTO kn_models(fitemid,fhide,fmodel,fname,fuse) VALUES(11,0,'BLV','铝芯聚氯乙烯绝缘电线','固定布线');
INSERT INTO kn_models(fitemid,fhide,fmodel,fname,fuse) VALUES(12,0,'RVV','铜芯聚氯乙烯绝缘聚氯乙烯护套软电缆','家用电器、仪器仪表的电源线');
INSERT INTO kn_models(fitemid,fhide,fmodel,fname,fuse) VALUES(13,0,'RVVP','铜芯聚氯乙烯绝缘屏蔽聚氯乙烯护套软电缆','信号与控制，需抗干扰');
INSERT INTO kn_models(fitemid,fhide,fmodel,fname,fuse) VALUES(14,0,'RVS','铜芯聚氯乙烯绝缘绞型连接用软电线','消防、广播、照明控制');
INSERT INTO kn_models(fitemid,fhide,fmodel,fname,fuse) VALUES(15,0,'KVV','聚氯乙烯绝缘聚氯乙烯护套控制电缆','控制、保护线路');
INSERT INTO kn_models(fitemid,fhide,fmodel,fname,fuse) VALUES(16,0,'KVVP','聚氯乙烯绝缘聚氯乙烯护套编织屏蔽控制电缆','需屏蔽的控制线路');
INSERT INTO kn_models(fitemid,fhide,fmodel,fname,fuse) VALUES(17,0,'YC','重型橡套软电缆','移动电器、工地设备');
INSERT INTO kn_models(fitemid,fhide,fmodel,fname,fuse) VALUES(18,0,'YZ','中型橡套软电缆','移动电器');
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(84,'kn_models','fitemid','序号',40,0,0,0,1);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(85,'kn_models','fmodel','型号',120,-1,0,0,2);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(86,'kn_models','fname','名称',300,-1,0,0,3);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(87,'kn_models','fuse','主要用途',300,-1,0,0,4);

CREATE TABLE kn_letters(
  fitemid INTEGER,
  fhide INTEGER DEFAULT 0,
  fpart VARCHAR(20),
  fcode VARCHAR(20),
  fmeaning VARCHAR(100)
);

INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(1,0,'类别','B','布电线（固定布线用电线）');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(2,0,'类别','R','软线、软电缆');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(3,0,'类别','K','控制电缆');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(4,0,'类别','Y','移动式软电缆（YC、YZ 等橡套电缆的首字母）');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(5,0,'导体','T','铜导体（通常省略）');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(6,0,'导体','L','铝导体');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(7,0,'绝缘','V','聚氯乙烯');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(8,0,'绝缘','YJ','交联聚乙烯');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(9,0,'绝缘','Y','聚乙烯');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(10,0,'绝缘','X','橡皮');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(11,0,'绝缘','E','乙丙橡胶');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(12,0,'护套','V','聚氯乙烯护套');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(13,0,'护套','Y','聚乙烯护套');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(14,0,'护套','F','氯丁橡胶护套');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(15,0,'结构','B','扁平型');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(16,0,'结构','S','双绞型');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(17,0,'屏蔽','P','铜丝编织屏蔽');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(18,0,'屏蔽','P2','铜带屏蔽');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(19,0,'屏蔽','P3','铝塑复合带屏蔽');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(20,0,'铠装(第一位数字)','0','无铠装');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(21,0,'铠装(第一位数字)','2','双钢带铠装');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(22,0,'铠装(第一位数字)','3','细圆钢丝铠装');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(23,0,'铠装(第一位数字)','4','粗圆钢丝铠装');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(24,0,'外被(第二位数字)','1','纤维外被');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(25,0,'外被(第二位数字)','2','聚氯乙烯外套');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(26,0,'外被(第二位数字)','3','聚乙烯外套');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(27,0,'特性','ZR','阻燃');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(28,0,'特性','ZA/ZB/ZC','阻燃 A、B、C 类');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(29,0,'特性','NH','耐火');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(30,0,'特性','WD','无卤低烟');
INSERT INTO kn_letters(fitemid,fhide,fpart,fcode,fmeaning) VALUES(31,0,'特性','WDZ','无卤低烟阻燃');
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(88,'kn_letters','fitemid','序号',40,0,0,0,1);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(89,'kn_letters','fpart','部位',80,-1,0,0,2);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(90,'kn_letters','fcode','代号',80,0,0,0,3);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(91,'kn_letters','fmeaning','含义',300,-1,0,0,4);

CREATE TABLE kn_colours(
  fitemid INTEGER,
  fhide INTEGER DEFAULT 0,
  fconductor VARCHAR(40),
  fcolour VARCHAR(20)
);

INSERT INTO kn_colours(fitemid,fhide,fconductor,fcolour) VALUES(1,0,'L1（A 相）','黄');
INSERT INTO kn_colours(fitemid,fhide,fconductor,fcolour) VALUES(2,0,'L2（B 相）','绿');
INSERT INTO kn_colours(fitemid,fhide,fconductor,fcolour) VALUES(3,0,'L3（C 相）','红');
INSERT INTO kn_colours(fitemid,fhide,fconductor,fcolour) VALUES(4,0,'N（中性线）','淡蓝');
INSERT INTO kn_colours(fitemid,fhide,fconductor,fcolour) VALUES(5,0,'PE（保护线）','绿/黄双色');
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(92,'kn_colours','fitemid','序号',40,0,0,0,1);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(93,'kn_colours','fconductor','导体',160,-1,0,0,2);
INSERT INTO picxGridsetting(fitemid,ftablename,ffieldname,fshowname,fwidth,falign,fhide,fsethide,findex) VALUES(94,'kn_colours','fcolour','颜色',80,0,0,0,3);

INSERT INTO piknowledgeindex(FItemID,FCaption,ftablename,FHide,FIndex) VALUES(1,'导体直流电阻（20℃）','kn_resistance',0,1);
INSERT INTO piknowledgeindex(FItemID,FCaption,ftablename,FHide,FIndex) VALUES(2,'铜芯电缆载流量（参考）','kn_ampacity',0,2);
INSERT INTO piknowledgeindex(FItemID,FCaption,ftablename,FHide,FIndex) VALUES(3,'常用电缆型号','kn_models',0,3);
INSERT INTO piknowledgeindex(FItemID,FCaption,ftablename,FHide,FIndex) VALUES(4,'型号字母含义','kn_letters',0,4);
INSERT INTO piknowledgeindex(FItemID,FCaption,ftablename,FHide,FIndex) VALUES(5,'线芯颜色','kn_colours',0,5);

-- Friendly hints; hint 1 is the greeting.
INSERT INTO cqfriendhint(finterid,fhint) VALUES(1,'欢迎使用Velmor科技系列软件！更多软件与更新请访问 www.velmor.example 获取更多...');
INSERT INTO cqfriendhint(finterid,fhint) VALUES(2,'按F2新建销售单，按F3保存，按F7预览，按F8打印。');
INSERT INTO cqfriendhint(finterid,fhint) VALUES(3,'按F9可直接输入条形码或产品型号、规格搜索产品。');
INSERT INTO cqfriendhint(finterid,fhint) VALUES(4,'双击销售单表格的标题行，可以调整各列的名称和宽度。');
INSERT INTO cqfriendhint(finterid,fhint) VALUES(5,'定期使用【系统】-【数据备份】备份数据，以防意外。');
INSERT INTO cqfriendhint(finterid,fhint) VALUES(6,'在【系统设置】中可以设置数量和单价的小数位数。');
INSERT INTO cqfriendhint(finterid,fhint) VALUES(7,'产品资料中的型号和规格可以从EXCEL表格批量导入。');
INSERT INTO cqfriendhint(finterid,fhint) VALUES(8,'任何列表都可以导出为EXCEL文件。');
INSERT INTO cqfriendhint(finterid,fhint) VALUES(9,'报表统计可按客户、产品、客户-产品、产品-客户汇总销售数据。');
INSERT INTO cqfriendhint(finterid,fhint) VALUES(10,'在销售单中点击某一行，右下角会显示该产品最近5次的销售价格。');

-- A starter catalogue of common cable families, without prices.
INSERT INTO cqproductclass(FClassID,FParentID,FName,FHide,FIndex) VALUES(1,0,'电力电缆',0,1);
INSERT INTO cqproductclass(FClassID,FParentID,FName,FHide,FIndex) VALUES(2,1,'YJV',0,1);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(1,2,'','交联聚乙烯绝缘聚氯乙烯护套电力电缆','YJV-0.6/1kV','3*4+1*2.5','米',0,1);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(2,2,'','交联聚乙烯绝缘聚氯乙烯护套电力电缆','YJV-0.6/1kV','3*6+1*4','米',0,2);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(3,2,'','交联聚乙烯绝缘聚氯乙烯护套电力电缆','YJV-0.6/1kV','3*10+1*6','米',0,3);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(4,2,'','交联聚乙烯绝缘聚氯乙烯护套电力电缆','YJV-0.6/1kV','3*16+1*10','米',0,4);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(5,2,'','交联聚乙烯绝缘聚氯乙烯护套电力电缆','YJV-0.6/1kV','3*25+1*16','米',0,5);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(6,2,'','交联聚乙烯绝缘聚氯乙烯护套电力电缆','YJV-0.6/1kV','3*35+1*16','米',0,6);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(7,2,'','交联聚乙烯绝缘聚氯乙烯护套电力电缆','YJV-0.6/1kV','3*50+1*25','米',0,7);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(8,2,'','交联聚乙烯绝缘聚氯乙烯护套电力电缆','YJV-0.6/1kV','3*70+1*35','米',0,8);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(9,2,'','交联聚乙烯绝缘聚氯乙烯护套电力电缆','YJV-0.6/1kV','3*95+1*50','米',0,9);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(10,2,'','交联聚乙烯绝缘聚氯乙烯护套电力电缆','YJV-0.6/1kV','3*120+1*70','米',0,10);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(11,2,'','交联聚乙烯绝缘聚氯乙烯护套电力电缆','YJV-0.6/1kV','3*150+1*70','米',0,11);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(12,2,'','交联聚乙烯绝缘聚氯乙烯护套电力电缆','YJV-0.6/1kV','3*185+1*95','米',0,12);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(13,2,'','交联聚乙烯绝缘聚氯乙烯护套电力电缆','YJV-0.6/1kV','3*240+1*120','米',0,13);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(14,2,'','交联聚乙烯绝缘聚氯乙烯护套电力电缆','YJV-0.6/1kV','4*16','米',0,14);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(15,2,'','交联聚乙烯绝缘聚氯乙烯护套电力电缆','YJV-0.6/1kV','4*25','米',0,15);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(16,2,'','交联聚乙烯绝缘聚氯乙烯护套电力电缆','YJV-0.6/1kV','4*35','米',0,16);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(17,2,'','交联聚乙烯绝缘聚氯乙烯护套电力电缆','YJV-0.6/1kV','5*10','米',0,17);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(18,2,'','交联聚乙烯绝缘聚氯乙烯护套电力电缆','YJV-0.6/1kV','5*16','米',0,18);
INSERT INTO cqproductclass(FClassID,FParentID,FName,FHide,FIndex) VALUES(3,1,'YJV22',0,2);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(19,3,'','交联聚乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','YJV22-0.6/1kV','3*25+1*16','米',0,1);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(20,3,'','交联聚乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','YJV22-0.6/1kV','3*35+1*16','米',0,2);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(21,3,'','交联聚乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','YJV22-0.6/1kV','3*50+1*25','米',0,3);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(22,3,'','交联聚乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','YJV22-0.6/1kV','3*70+1*35','米',0,4);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(23,3,'','交联聚乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','YJV22-0.6/1kV','3*95+1*50','米',0,5);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(24,3,'','交联聚乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','YJV22-0.6/1kV','3*120+1*70','米',0,6);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(25,3,'','交联聚乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','YJV22-0.6/1kV','3*150+1*70','米',0,7);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(26,3,'','交联聚乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','YJV22-0.6/1kV','3*185+1*95','米',0,8);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(27,3,'','交联聚乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','YJV22-0.6/1kV','3*240+1*120','米',0,9);
INSERT INTO cqproductclass(FClassID,FParentID,FName,FHide,FIndex) VALUES(4,1,'YJV22中压',0,3);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(28,4,'','交联聚乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','YJV22-8.7/15kV','3*50','米',0,1);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(29,4,'','交联聚乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','YJV22-8.7/15kV','3*70','米',0,2);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(30,4,'','交联聚乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','YJV22-8.7/15kV','3*95','米',0,3);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(31,4,'','交联聚乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','YJV22-8.7/15kV','3*120','米',0,4);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(32,4,'','交联聚乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','YJV22-8.7/15kV','3*150','米',0,5);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(33,4,'','交联聚乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','YJV22-8.7/15kV','3*185','米',0,6);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(34,4,'','交联聚乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','YJV22-8.7/15kV','3*240','米',0,7);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(35,4,'','交联聚乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','YJV22-8.7/15kV','3*300','米',0,8);
INSERT INTO cqproductclass(FClassID,FParentID,FName,FHide,FIndex) VALUES(5,1,'VV',0,4);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(36,5,'','聚氯乙烯绝缘聚氯乙烯护套电力电缆','VV-0.6/1kV','3*4+1*2.5','米',0,1);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(37,5,'','聚氯乙烯绝缘聚氯乙烯护套电力电缆','VV-0.6/1kV','3*6+1*4','米',0,2);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(38,5,'','聚氯乙烯绝缘聚氯乙烯护套电力电缆','VV-0.6/1kV','3*10+1*6','米',0,3);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(39,5,'','聚氯乙烯绝缘聚氯乙烯护套电力电缆','VV-0.6/1kV','3*16+1*10','米',0,4);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(40,5,'','聚氯乙烯绝缘聚氯乙烯护套电力电缆','VV-0.6/1kV','3*25+1*16','米',0,5);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(41,5,'','聚氯乙烯绝缘聚氯乙烯护套电力电缆','VV-0.6/1kV','3*35+1*16','米',0,6);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(42,5,'','聚氯乙烯绝缘聚氯乙烯护套电力电缆','VV-0.6/1kV','3*50+1*25','米',0,7);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(43,5,'','聚氯乙烯绝缘聚氯乙烯护套电力电缆','VV-0.6/1kV','4*10','米',0,8);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(44,5,'','聚氯乙烯绝缘聚氯乙烯护套电力电缆','VV-0.6/1kV','4*16','米',0,9);
INSERT INTO cqproductclass(FClassID,FParentID,FName,FHide,FIndex) VALUES(6,1,'VV22',0,5);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(45,6,'','聚氯乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','VV22-0.6/1kV','3*25+1*16','米',0,1);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(46,6,'','聚氯乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','VV22-0.6/1kV','3*35+1*16','米',0,2);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(47,6,'','聚氯乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','VV22-0.6/1kV','3*50+1*25','米',0,3);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(48,6,'','聚氯乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','VV22-0.6/1kV','3*70+1*35','米',0,4);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(49,6,'','聚氯乙烯绝缘钢带铠装聚氯乙烯护套电力电缆','VV22-0.6/1kV','3*95+1*50','米',0,5);
INSERT INTO cqproductclass(FClassID,FParentID,FName,FHide,FIndex) VALUES(7,0,'布电线',0,2);
INSERT INTO cqproductclass(FClassID,FParentID,FName,FHide,FIndex) VALUES(8,7,'BV',0,1);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(50,8,'','铜芯聚氯乙烯绝缘电线','BV-450/750V','1*1.5','米',0,1);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(51,8,'','铜芯聚氯乙烯绝缘电线','BV-450/750V','1*2.5','米',0,2);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(52,8,'','铜芯聚氯乙烯绝缘电线','BV-450/750V','1*4','米',0,3);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(53,8,'','铜芯聚氯乙烯绝缘电线','BV-450/750V','1*6','米',0,4);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(54,8,'','铜芯聚氯乙烯绝缘电线','BV-450/750V','1*10','米',0,5);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(55,8,'','铜芯聚氯乙烯绝缘电线','BV-450/750V','1*16','米',0,6);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(56,8,'','铜芯聚氯乙烯绝缘电线','BV-450/750V','1*25','米',0,7);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(57,8,'','铜芯聚氯乙烯绝缘电线','BV-450/750V','1*35','米',0,8);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(58,8,'','铜芯聚氯乙烯绝缘电线','BV-450/750V','1*50','米',0,9);
INSERT INTO cqproductclass(FClassID,FParentID,FName,FHide,FIndex) VALUES(9,7,'BVR',0,2);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(59,9,'','铜芯聚氯乙烯绝缘软电线','BVR-450/750V','1*1.5','米',0,1);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(60,9,'','铜芯聚氯乙烯绝缘软电线','BVR-450/750V','1*2.5','米',0,2);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(61,9,'','铜芯聚氯乙烯绝缘软电线','BVR-450/750V','1*4','米',0,3);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(62,9,'','铜芯聚氯乙烯绝缘软电线','BVR-450/750V','1*6','米',0,4);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(63,9,'','铜芯聚氯乙烯绝缘软电线','BVR-450/750V','1*10','米',0,5);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(64,9,'','铜芯聚氯乙烯绝缘软电线','BVR-450/750V','1*16','米',0,6);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(65,9,'','铜芯聚氯乙烯绝缘软电线','BVR-450/750V','1*25','米',0,7);
INSERT INTO cqproductclass(FClassID,FParentID,FName,FHide,FIndex) VALUES(10,7,'BVV',0,3);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(66,10,'','铜芯聚氯乙烯绝缘聚氯乙烯护套电线','BVV-300/500V','1*1.5','米',0,1);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(67,10,'','铜芯聚氯乙烯绝缘聚氯乙烯护套电线','BVV-300/500V','1*2.5','米',0,2);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(68,10,'','铜芯聚氯乙烯绝缘聚氯乙烯护套电线','BVV-300/500V','1*4','米',0,3);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(69,10,'','铜芯聚氯乙烯绝缘聚氯乙烯护套电线','BVV-300/500V','1*6','米',0,4);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(70,10,'','铜芯聚氯乙烯绝缘聚氯乙烯护套电线','BVV-300/500V','1*10','米',0,5);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(71,10,'','铜芯聚氯乙烯绝缘聚氯乙烯护套电线','BVV-300/500V','2*1.5','米',0,6);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(72,10,'','铜芯聚氯乙烯绝缘聚氯乙烯护套电线','BVV-300/500V','2*2.5','米',0,7);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(73,10,'','铜芯聚氯乙烯绝缘聚氯乙烯护套电线','BVV-300/500V','3*2.5','米',0,8);
INSERT INTO cqproductclass(FClassID,FParentID,FName,FHide,FIndex) VALUES(11,0,'软电缆',0,3);
INSERT INTO cqproductclass(FClassID,FParentID,FName,FHide,FIndex) VALUES(12,11,'RVV',0,1);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(74,12,'','铜芯聚氯乙烯绝缘聚氯乙烯护套软电缆','RVV-300/500V','2*0.5','米',0,1);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(75,12,'','铜芯聚氯乙烯绝缘聚氯乙烯护套软电缆','RVV-300/500V','2*0.75','米',0,2);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(76,12,'','铜芯聚氯乙烯绝缘聚氯乙烯护套软电缆','RVV-300/500V','2*1.0','米',0,3);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(77,12,'','铜芯聚氯乙烯绝缘聚氯乙烯护套软电缆','RVV-300/500V','2*1.5','米',0,4);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(78,12,'','铜芯聚氯乙烯绝缘聚氯乙烯护套软电缆','RVV-300/500V','2*2.5','米',0,5);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(79,12,'','铜芯聚氯乙烯绝缘聚氯乙烯护套软电缆','RVV-300/500V','3*0.75','米',0,6);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(80,12,'','铜芯聚氯乙烯绝缘聚氯乙烯护套软电缆','RVV-300/500V','3*1.0','米',0,7);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(81,12,'','铜芯聚氯乙烯绝缘聚氯乙烯护套软电缆','RVV-300/500V','3*1.5','米',0,8);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(82,12,'','铜芯聚氯乙烯绝缘聚氯乙烯护套软电缆','RVV-300/500V','3*2.5','米',0,9);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(83,12,'','铜芯聚氯乙烯绝缘聚氯乙烯护套软电缆','RVV-300/500V','4*1.0','米',0,10);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(84,12,'','铜芯聚氯乙烯绝缘聚氯乙烯护套软电缆','RVV-300/500V','4*1.5','米',0,11);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(85,12,'','铜芯聚氯乙烯绝缘聚氯乙烯护套软电缆','RVV-300/500V','5*1.5','米',0,12);
INSERT INTO cqproductclass(FClassID,FParentID,FName,FHide,FIndex) VALUES(13,11,'RVVP',0,2);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(86,13,'','铜芯聚氯乙烯绝缘屏蔽聚氯乙烯护套软电缆','RVVP-300/300V','2*0.3','米',0,1);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(87,13,'','铜芯聚氯乙烯绝缘屏蔽聚氯乙烯护套软电缆','RVVP-300/300V','2*0.5','米',0,2);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(88,13,'','铜芯聚氯乙烯绝缘屏蔽聚氯乙烯护套软电缆','RVVP-300/300V','2*0.75','米',0,3);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(89,13,'','铜芯聚氯乙烯绝缘屏蔽聚氯乙烯护套软电缆','RVVP-300/300V','2*1.0','米',0,4);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(90,13,'','铜芯聚氯乙烯绝缘屏蔽聚氯乙烯护套软电缆','RVVP-300/300V','3*0.5','米',0,5);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(91,13,'','铜芯聚氯乙烯绝缘屏蔽聚氯乙烯护套软电缆','RVVP-300/300V','3*0.75','米',0,6);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(92,13,'','铜芯聚氯乙烯绝缘屏蔽聚氯乙烯护套软电缆','RVVP-300/300V','4*0.5','米',0,7);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(93,13,'','铜芯聚氯乙烯绝缘屏蔽聚氯乙烯护套软电缆','RVVP-300/300V','4*0.75','米',0,8);
INSERT INTO cqproductclass(FClassID,FParentID,FName,FHide,FIndex) VALUES(14,0,'控制电缆',0,4);
INSERT INTO cqproductclass(FClassID,FParentID,FName,FHide,FIndex) VALUES(15,14,'KVV',0,1);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(94,15,'','聚氯乙烯绝缘聚氯乙烯护套控制电缆','KVV-450/750V','4*1.5','米',0,1);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(95,15,'','聚氯乙烯绝缘聚氯乙烯护套控制电缆','KVV-450/750V','5*1.5','米',0,2);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(96,15,'','聚氯乙烯绝缘聚氯乙烯护套控制电缆','KVV-450/750V','7*1.5','米',0,3);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(97,15,'','聚氯乙烯绝缘聚氯乙烯护套控制电缆','KVV-450/750V','10*1.5','米',0,4);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(98,15,'','聚氯乙烯绝缘聚氯乙烯护套控制电缆','KVV-450/750V','14*1.5','米',0,5);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(99,15,'','聚氯乙烯绝缘聚氯乙烯护套控制电缆','KVV-450/750V','4*2.5','米',0,6);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(100,15,'','聚氯乙烯绝缘聚氯乙烯护套控制电缆','KVV-450/750V','5*2.5','米',0,7);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(101,15,'','聚氯乙烯绝缘聚氯乙烯护套控制电缆','KVV-450/750V','7*2.5','米',0,8);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(102,15,'','聚氯乙烯绝缘聚氯乙烯护套控制电缆','KVV-450/750V','10*2.5','米',0,9);
INSERT INTO cqproductclass(FClassID,FParentID,FName,FHide,FIndex) VALUES(16,14,'KVVP',0,2);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(103,16,'','聚氯乙烯绝缘编织屏蔽聚氯乙烯护套控制电缆','KVVP-450/750V','4*1.5','米',0,1);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(104,16,'','聚氯乙烯绝缘编织屏蔽聚氯乙烯护套控制电缆','KVVP-450/750V','5*1.5','米',0,2);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(105,16,'','聚氯乙烯绝缘编织屏蔽聚氯乙烯护套控制电缆','KVVP-450/750V','7*1.5','米',0,3);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(106,16,'','聚氯乙烯绝缘编织屏蔽聚氯乙烯护套控制电缆','KVVP-450/750V','10*1.5','米',0,4);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(107,16,'','聚氯乙烯绝缘编织屏蔽聚氯乙烯护套控制电缆','KVVP-450/750V','4*2.5','米',0,5);
INSERT INTO cqproduct(FModelID,FClassID,FBianma,FName,FXinghao,FGuige,FUnit,FHide,FIndex) VALUES(108,16,'','聚氯乙烯绝缘编织屏蔽聚氯乙烯护套控制电缆','KVVP-450/750V','7*2.5','米',0,6);
