// Recursive-descent parser, third part: procedures and classes, and the binding of names to
// locals, constants and class members. One function per grammar rule, each starting with the
// rule it parses.
#include "vbscript/parser_impl.h"

namespace tillbook::vbscript::parsing {

// procedure := (Function | Sub | Property (Get | Let | Set)) name [( params )] block
//              End (Function | Sub | Property)
void Parser::ParseProcedure(bool isPublic, bool isDefault, ClassDef* cls) {
  auto proc = std::make_unique<Procedure>();
  Kw kw = Cur().kw;
  proc->line = Advance().line;
  if (kw == Kw::Function) {
    proc->kind = Procedure::Kind::Function;
  } else if (kw == Kw::Sub) {
    proc->kind = Procedure::Kind::Sub;
  } else {
    if (AcceptKw(Kw::Get))
      proc->kind = Procedure::Kind::PropertyGet;
    else if (AcceptKw(Kw::Let))
      proc->kind = Procedure::Kind::PropertyLet;
    else if (AcceptKw(Kw::Set))
      proc->kind = Procedure::Kind::PropertySet;
    else
      Fail(1049);
  }
  const Token& name = ExpectIdentifier();
  proc->name = name.text;
  proc->key = name.key;
  proc->isPublic = isPublic;
  proc->isDefault = isDefault;
  proc->owner = cls;
  ProcScope scope;
  scope.proc = proc.get();
  if (proc->kind == Procedure::Kind::Function || proc->kind == Procedure::Kind::PropertyGet)
    scope.slots[proc->key] = 0;
  if (Accept(Tok::LParen)) {
    if (!Accept(Tok::RParen)) {
      do {
        bool byVal = AcceptKw(Kw::ByVal);
        if (!byVal) AcceptKw(Kw::ByRef);
        const Token& param = ExpectIdentifier();
        if (Accept(Tok::LParen)) Expect(Tok::RParen, kExpectedRParen);
        proc->byVal.push_back(byVal);
        scope.slots[param.key] = proc->slotCount++;
      } while (Accept(Tok::Comma));
      Expect(Tok::RParen, kExpectedRParen);
    }
  }
  ProcScope* outer = scope_;
  scope_ = &scope;
  int loops[2] = {loopDepth_[0], loopDepth_[1]};
  loopDepth_[0] = loopDepth_[1] = 0;
  proc->body = ParseBlock();
  loopDepth_[0] = loops[0];
  loopDepth_[1] = loops[1];
  scope_ = outer;
  ExpectKw(Kw::End, kExpectedEnd);
  if (kw == Kw::Function)
    ExpectKw(Kw::Function, kExpectedFunction);
  else if (kw == Kw::Sub)
    ExpectKw(Kw::Sub, kExpectedSub);
  else
    ExpectKw(Kw::Property, kExpectedProperty);
  BindProcedure(scope);
  if (cls)
    AddToClass(*cls, std::move(proc));
  else
    unit_->procs.push_back(std::move(proc));
}

void Parser::BindProcedure(ProcScope& scope) {
  std::unordered_map<std::string, int> implicit;
  Procedure& proc = *scope.proc;
  for (Name* n : scope.refs) {
    auto it = scope.slots.find(n->key);
    bool recursion = it != scope.slots.end() && it->second == 0 && n->hasParens;
    if (it != scope.slots.end() && !recursion) {
      n->binding = Binding::Local;
      n->slot = it->second;
      if (!n->hasParens) {
        n->localSlot = n->slot;
      }
      continue;
    }
    auto c = scope.consts.find(n->key);
    if (c != scope.consts.end()) {
      n->binding = Binding::Constant;
      n->constant = c->second;
      if (!n->hasParens) n->fixedValue = &n->constant;
      continue;
    }
    n->inProcedure = true;
    auto [slot, added] = implicit.emplace(n->key, proc.slotCount);
    if (added) ++proc.slotCount;
    n->slot = slot->second;
    if (inClass_)
      classRefs_.push_back(n);
    else
      unit_->unresolved.push_back(n);
  }
}

void Parser::AddToClass(ClassDef& cls, std::unique_ptr<Procedure> proc) {
  Procedure* p = proc.get();
  if (p->key == "class_initialize" && p->kind == Procedure::Kind::Sub) {
    if (p->ParamCount() != 0) Fail(1053);
    cls.initialize = p;
    // The events are methods too: a script may run them again by name.
    cls.members[p->key].method = p;
  } else if (p->key == "class_terminate" && p->kind == Procedure::Kind::Sub) {
    if (p->ParamCount() != 0) Fail(1053);
    cls.terminate = p;
    cls.members[p->key].method = p;
  } else {
    auto& m = cls.members[p->key];
    switch (p->kind) {
      case Procedure::Kind::Function:
      case Procedure::Kind::Sub:
        m.method = p;
        break;
      case Procedure::Kind::PropertyGet:
        m.get = p;
        break;
      case Procedure::Kind::PropertyLet:
        m.let = p;
        break;
      case Procedure::Kind::PropertySet:
        m.set = p;
        break;
    }
    if ((p->kind == Procedure::Kind::PropertyLet || p->kind == Procedure::Kind::PropertySet) &&
        p->ParamCount() == 0)
      Fail(1054);
    if (p->isDefault) {
      if (!cls.defaultKey.empty() && cls.defaultKey != p->key) Fail(1052);
      if (!p->isPublic) Fail(1057);
      cls.defaultKey = p->key;
    }
  }
  cls.procs.push_back(std::move(proc));
}

// class := Class name { field | procedure } End Class
void Parser::ParseClass() {
  Advance();
  if (inClass_) Fail(kSyntaxError);
  auto cls = std::make_unique<ClassDef>();
  const Token& name = ExpectIdentifier();
  cls->name = name.text;
  cls->key = name.key;
  inClass_ = true;
  class_ = cls.get();
  classRefs_.clear();
  while (true) {
    SkipSeparators();
    if (IsKw(Kw::End)) break;
    if (Is(Tok::End)) Fail(kExpectedEnd);
    bool isPublic = true, isDefault = false, modifier = false;
    if (IsKw(Kw::Public) || IsKw(Kw::Private)) {
      isPublic = Advance().kw == Kw::Public;
      modifier = true;
      isDefault = AcceptKw(Kw::Default);
    }
    if (IsKw(Kw::Function) || IsKw(Kw::Sub) || IsKw(Kw::Property)) {
      ParseProcedure(isPublic, isDefault, cls.get());
    } else if (IsKw(Kw::Dim) || modifier) {
      AcceptKw(Kw::Dim);
      do {
        const Token& field = ExpectIdentifier();
        ClassDef::Field f;
        f.name = field.text;
        f.isPublic = isPublic;
        if (Accept(Tok::LParen)) {
          if (Accept(Tok::RParen)) {
            f.dynamicArray = true;
          } else {
            do {
              if (!Is(Tok::Integer)) Fail(kExpectedInteger);
              f.dims.push_back(static_cast<int32_t>(Advance().integer));
            } while (Accept(Tok::Comma));
            Expect(Tok::RParen, kExpectedRParen);
          }
        }
        cls->fieldIndex[field.key] = static_cast<int>(cls->fields.size());
        cls->fields.push_back(std::move(f));
      } while (Accept(Tok::Comma));
    } else {
      Fail(kExpectedStatement);
    }
    if (!AtDeclarationEnd()) ExpectSeparator();
  }
  Advance();
  ExpectKw(Kw::Class, kExpectedClass);
  inClass_ = false;
  class_ = nullptr;
  for (Name* n : classRefs_) {
    auto f = cls->fieldIndex.find(n->key);
    if (f != cls->fieldIndex.end()) {
      n->binding = Binding::Field;
      n->slot = f->second;
      continue;
    }
    auto m = cls->members.find(n->key);
    if (m != cls->members.end()) {
      n->binding = Binding::Method;
      n->proc = m->second.method ? m->second.method : m->second.get;
      continue;
    }
    unit_->unresolved.push_back(n);
  }
  classRefs_.clear();
  unit_->classes.push_back(std::move(cls));
}

}  // namespace tillbook::vbscript::parsing
